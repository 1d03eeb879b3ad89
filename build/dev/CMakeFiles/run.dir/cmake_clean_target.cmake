file(REMOVE_RECURSE
  "librun.a"
)
