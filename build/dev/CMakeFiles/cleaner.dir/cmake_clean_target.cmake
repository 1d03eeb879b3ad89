file(REMOVE_RECURSE
  "libcleaner.a"
)
