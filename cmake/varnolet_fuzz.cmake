# libFuzzer targets of the portable readers, built with clang only:
#   cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVARNOLET_FUZZ=ON
# Everything is then compiled with AddressSanitizer and UBSan. Each target is listed with its
# seed corpus in fuzz_targets.txt of the build folder; scripts/fuzz.sh builds and runs them.
option(VARNOLET_FUZZ "Build the libFuzzer targets (clang only)" OFF)
set(VARNOLET_FUZZING FALSE)
if(VARNOLET_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VARNOLET_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
  endif()
  set(VARNOLET_FUZZING TRUE)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz_targets.txt "")
endif()

# A fuzz target NAME from SOURCE, linked with LIBRARY, whose seeds are in the folder CORPUS.
function(varnolet_add_fuzz_target name source library corpus)
  if(NOT VARNOLET_FUZZING)
    return()
  endif()
  add_executable(${name} ${source})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${library})
  file(APPEND ${CMAKE_BINARY_DIR}/fuzz_targets.txt "${name} ${corpus}\n")
endfunction()
