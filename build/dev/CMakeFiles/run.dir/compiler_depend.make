# Empty compiler generated dependencies file for run.
# This may be replaced when dependencies are built.
