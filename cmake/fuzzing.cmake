# SPDX-License-Identifier: GPL-3.0-or-later
# BREVAN_FUZZ=ON builds the libFuzzer targets in fuzz/. libFuzzer comes with clang only. The
# whole tree is compiled with coverage feedback and the sanitizers, so that the fuzzers see and
# check the libraries they drive, not just their own entry points. Only the fuzzers link
# libFuzzer (fuzz/CMakeLists.txt): the other programs of such a build, the tests among them, run
# as usual, the sanitizer runtime answering the coverage hooks. So with BREVAN_SANITIZE=ON as
# well, one build serves both the sanitizer run of the suite and the fuzzers.
option(BREVAN_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(BREVAN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "BREVAN_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
  if(NOT BREVAN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined,float-divide-by-zero
                        -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()
