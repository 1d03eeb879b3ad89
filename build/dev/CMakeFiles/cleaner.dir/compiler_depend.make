# Empty compiler generated dependencies file for cleaner.
# This may be replaced when dependencies are built.
