# Empty compiler generated dependencies file for registry.
# This may be replaced when dependencies are built.
