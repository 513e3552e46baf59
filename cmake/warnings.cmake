# SPDX-License-Identifier: GPL-3.0-or-later
# One interface target carries the warning set, so every layer builds with the same flags and
# no layer can quietly drop them.
add_library(brevan_warnings INTERFACE)
target_compile_options(brevan_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                 -Wno-sign-conversion)
option(BREVAN_WERROR "Treat warnings as errors" ON)
if(BREVAN_WERROR)
  target_compile_options(brevan_warnings INTERFACE -Werror)
endif()

# The design figures are reproduced to the last digit, so no fused multiply-add may change the
# rounding of an intermediate result.
add_library(brevan_exact_math INTERFACE)
target_compile_options(brevan_exact_math INTERFACE -ffp-contract=off -fno-fast-math)
