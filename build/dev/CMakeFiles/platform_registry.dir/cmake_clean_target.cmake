file(REMOVE_RECURSE
  "libplatform_registry.a"
)
