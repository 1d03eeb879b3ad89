file(REMOVE_RECURSE
  "libregistry.a"
)
