# Helpers that keep the folder CMakeLists short.

# vellarion_add_test(NAME SOURCES src... [LIBS lib...] [GUI] [COST n])
# One GoogleTest executable; its cases are registered with CTest one by one.
# GUI suites link the gui library and run on the offscreen platform. COST
# marks long cases, which a parallel ctest then starts first.
function(vellarion_add_test name)
    cmake_parse_arguments(T "GUI" "COST" "SOURCES;LIBS" ${ARGN})
    if(T_GUI AND NOT VELLARION_GUI)
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE vellarion_test_support GTest::gtest GTest::gmock ${T_LIBS})
    set(properties TIMEOUT 300)
    if(T_COST)
        list(APPEND properties COST ${T_COST})
    endif()
    if(T_GUI)
        find_package(Qt6 6.4 REQUIRED COMPONENTS Test)
        target_link_libraries(${name} PRIVATE vellarion_gui_test_support Qt6::Test)
        list(APPEND properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    if(CMAKE_CROSSCOMPILING)
        # The Windows stage runs the executables itself under Wine.
        return()
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ${properties})
endfunction()
