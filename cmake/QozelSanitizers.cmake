# Builds of the whole project under the sanitizers.
#
# QOZEL_SANITIZE: every library, program and test under AddressSanitizer and
# UBSan; the first error ends the process, so a test that meets one fails.
# The standard library checks its own bounds as well, which catches an index
# past an array that lies inside a larger object, where ASan cannot see it.
# QOZEL_LIBFUZZER (clang only): the same, the code also carrying libFuzzer's
# coverage instrumentation, and the fuzz targets built as libFuzzer programs.
option(QOZEL_SANITIZE "Build everything under AddressSanitizer and UBSan" OFF)
option(QOZEL_LIBFUZZER "Build the fuzz targets as libFuzzer programs, everything under the sanitizers (clang only)" OFF)

if(QOZEL_LIBFUZZER AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "QOZEL_LIBFUZZER needs clang (e.g. -DCMAKE_CXX_COMPILER=clang++)")
endif()
if(QOZEL_SANITIZE OR QOZEL_LIBFUZZER)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
                      -D_GLIBCXX_ASSERTIONS)
  add_link_options(-fsanitize=address,undefined)
endif()
if(QOZEL_LIBFUZZER)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
