# Small helpers so that every layer's CMakeLists stays a few lines.

# albumora_library(<name> [DEPS <targets...>])
# A static library of every .cpp in the calling folder except *_main.cpp.
function(albumora_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_main\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# albumora_test(<name> [DEPS <targets...>] [ENVIRONMENT <VAR=value...>])
# One GoogleTest executable of every *_test.cpp in the calling folder.
function(albumora_test name)
  if(ALBUMORA_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "DEPS;ENVIRONMENT" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    ALBUMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ALBUMORA_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    ALBUMORA_PROGRAM_DIR="${CMAKE_BINARY_DIR}/albumora")
  # Parameterised tests are named by their instance name or index: the printed value of a
  # parameter struct is a byte dump of hundreds of characters, and ctest pads every line to the
  # longest name.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES NO_PRETTY_TYPES
    PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}" TIMEOUT 600)
endfunction()
