# Shared build settings and helpers for every subsystem.

add_compile_options(-Wall -Wextra)

if(QUELLIX_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(QUELLIX_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT QUELLIX_SANITIZE STREQUAL "")
    message(FATAL_ERROR "QUELLIX_SANITIZE must be '', 'address' or 'thread'")
endif()

# A fuzz build instruments every library so that the fuzzers see coverage
# of the code they drive.
if(QUELLIX_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# quellix_library(NAME <target> SOURCES ... [DEPS ...])
# A subsystem library; its public headers live in <folder>/include.
function(quellix_library)
    cmake_parse_arguments(Q "" "NAME" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
    add_library(${Q_NAME} STATIC ${Q_SOURCES})
    target_include_directories(${Q_NAME} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include)
    target_link_libraries(${Q_NAME} PUBLIC ${Q_DEPS} PRIVATE ${Q_PRIVATE_DEPS})
endfunction()

# quellix_test(NAME <exe> SOURCES ... [DEPS ...] [LABELS ...])
# One GoogleTest executable, its cases registered with CTest.  Labels let CI
# pick suites: "qt" needs the Qt libraries, "threads" runs under TSan.
# Give a suite one label: gtest_discover_tests splits a list of them.
function(quellix_test)
    cmake_parse_arguments(Q "" "NAME" "SOURCES;DEPS;LABELS" ${ARGN})
    find_package(GTest REQUIRED)
    add_executable(${Q_NAME} ${Q_SOURCES})
    target_link_libraries(${Q_NAME} PRIVATE ${Q_DEPS} GTest::gmock GTest::gtest GTest::gtest_main)
    # Helpers every suite may use (temporary directories and the like).
    target_include_directories(${Q_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    include(GoogleTest)
    gtest_discover_tests(${Q_NAME}
        PROPERTIES LABELS "${Q_LABELS}"
        DISCOVERY_TIMEOUT 60)
endfunction()
