# SPDX-License-Identifier: GPL-3.0-or-later
# BREVAN_SANITIZE=ON builds everything with AddressSanitizer and UndefinedBehaviorSanitizer,
# stopping at the first report. Float casts and float division by zero are checked as well:
# the design core promises never to produce a value outside its type's range.
option(BREVAN_SANITIZE "Build with ASan and UBSan" OFF)
if(BREVAN_SANITIZE)
  set(_brevan_san -fsanitize=address,undefined,float-cast-overflow,float-divide-by-zero
                  -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_brevan_san})
  add_link_options(${_brevan_san})
endif()
