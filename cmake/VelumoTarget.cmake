option(VELUMO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VELUMO_BUILD_FUZZ "Build the libFuzzer targets in fuzz/ (clang only)" OFF)

if(VELUMO_BUILD_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "VELUMO_BUILD_FUZZ needs clang (libFuzzer); configure with CXX=clang++.")
endif()

# Common compile settings for every Velumo target.
function(velumo_target_settings target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    # Results must be bit-reproducible: no fused multiply-add contraction.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -ffp-contract=off)
    if(VELUMO_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(VELUMO_SANITIZE)
      # Any report aborts the process, so ctest and the fuzzers see it as a failure.
      set(san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
      target_compile_options(${target} PRIVATE ${san})
      target_link_options(${target} PUBLIC ${san})
    endif()
    if(VELUMO_BUILD_FUZZ)
      # Coverage feedback for libFuzzer from every library, not only the target.
      target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
  endif()
endfunction()

# One helper to register a GoogleTest executable with CTest.
function(velumo_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  velumo_target_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    VELUMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VELUMO_GOLDEN_DIR="${PROJECT_SOURCE_DIR}/tests/golden")
  set(props "")
  if(ARG_GUI)
    set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()
