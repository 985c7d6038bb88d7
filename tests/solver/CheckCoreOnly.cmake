# Fails when BINARY loads a Qt library other than Core (and Test, the test's own harness).
#   cmake -DBINARY=<program> -P CheckCoreOnly.cmake
execute_process(COMMAND ldd ${BINARY} OUTPUT_VARIABLE libs RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "CheckCoreOnly: ldd ${BINARY} failed")
endif()
string(REGEX MATCHALL "libQt6[A-Za-z]+" qt "${libs}")
list(REMOVE_DUPLICATES qt)
list(REMOVE_ITEM qt libQt6Core libQt6Test)
if(qt)
    message(FATAL_ERROR "${BINARY} loads ${qt}: the solver must stand on Qt Core alone")
endif()
message(STATUS "Qt libraries of ${BINARY}: Core and Test only")
