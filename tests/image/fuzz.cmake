# Coverage-guided fuzzing of the in-memory decoder: clang's libFuzzer, sanitizer build only.
# ctest runs a short, fixed number of inputs seeded with the bmpsuite files; new inputs go to a
# corpus folder in the build tree (the shared test data stays untouched).
if(VAVARIZO_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_executable(dib_fuzz fuzz/dib_fuzz.cpp
    ${CMAKE_SOURCE_DIR}/image/dib_decode.cpp ${CMAKE_SOURCE_DIR}/image/dib_convert.cpp)
  target_link_libraries(dib_fuzz PRIVATE platform_files)
  target_compile_options(dib_fuzz PRIVATE -fsanitize=fuzzer)
  target_link_options(dib_fuzz PRIVATE -fsanitize=fuzzer)
  set(dib_fuzz_corpus ${CMAKE_CURRENT_BINARY_DIR}/dib_fuzz_corpus)
  file(MAKE_DIRECTORY ${dib_fuzz_corpus})
  set(suite ${VAVARIZO_SHARED_DIR}/testdata/bmpsuite)
  add_test(NAME dib_fuzz_short
    COMMAND dib_fuzz -runs=20000 -seed=1 -max_len=65536 -rss_limit_mb=3072
            ${dib_fuzz_corpus} ${suite}/g ${suite}/q ${suite}/b)
endif()
