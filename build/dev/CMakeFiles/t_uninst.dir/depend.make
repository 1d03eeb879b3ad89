# Empty dependencies file for t_uninst.
# This may be replaced when dependencies are built.
