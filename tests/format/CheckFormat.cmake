# Every C++ file of the tree is as clang-format (the .clang-format at the top) writes it. Run as
#   cmake -DSOURCE_DIR=<tree> -DCLANG_FORMAT=<program> -P CheckFormat.cmake
# and it fails, naming every file that differs; `clang-format -i <file>` mends one.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT CLANG_FORMAT)
    message(FATAL_ERROR "CheckFormat: SOURCE_DIR and CLANG_FORMAT must be set")
endif()

set(sources)
foreach(folder platform workbench coursebook filterdemo tools tests bench)
    file(GLOB_RECURSE found ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
    list(APPEND sources ${found})
endforeach()
if(NOT sources)
    message(FATAL_ERROR "CheckFormat: no C++ files under ${SOURCE_DIR}")
endif()

set(unformatted)
foreach(file IN LISTS sources)
    execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror --style=file ${file}
        RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
    if(NOT result EQUAL 0)
        file(RELATIVE_PATH relative ${SOURCE_DIR} ${file})
        list(APPEND unformatted ${relative})
    endif()
endforeach()

list(LENGTH sources count)
if(unformatted)
    list(JOIN unformatted "\n  " listed)
    message(FATAL_ERROR "Not formatted (clang-format -i mends them):\n  ${listed}")
endif()
message(STATUS "${count} C++ files formatted")
