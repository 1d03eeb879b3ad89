file(REMOVE_RECURSE
  "libplatform_run.a"
)
