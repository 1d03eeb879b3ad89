# Empty dependencies file for platform_run.
# This may be replaced when dependencies are built.
