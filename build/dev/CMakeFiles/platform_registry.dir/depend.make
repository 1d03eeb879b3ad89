# Empty dependencies file for platform_registry.
# This may be replaced when dependencies are built.
