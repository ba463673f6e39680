# `make run` counts the show's normal ends (0 after a close, 27 after Escape) as success and
# passes any other exit code on.
add_test(NAME make_run.exit_codes COMMAND bash -c [[
  run=$1; $run true && $run sh -c 'exit 27' || exit 1
  for code in 1 2 26 28; do $run sh -c "exit $code"; [ $? -eq $code ] || exit 1; done]] _
  ${CMAKE_SOURCE_DIR}/scripts/run-show)
