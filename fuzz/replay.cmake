# Included from tests/CMakeLists.txt: each fuzz target's checks, compiled with
# the ordinary compiler and a main() that reads files, run over the seed corpus
# and the kept findings in fuzz/regressions/<target>/.
foreach(orvandel_fuzz_target IN ITEMS tournamentfile numberinput journal)
    add_executable(replay_${orvandel_fuzz_target}
        ${PROJECT_SOURCE_DIR}/fuzz/fuzz_${orvandel_fuzz_target}.cpp
        ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(replay_${orvandel_fuzz_target} PRIVATE orvandel_settings orvandel_core)
    add_test(NAME fuzz_replay_${orvandel_fuzz_target}
        COMMAND replay_${orvandel_fuzz_target}
                ${PROJECT_SOURCE_DIR}/fuzz/regressions/${orvandel_fuzz_target}
                ${PROJECT_SOURCE_DIR}/fuzz/corpus/${orvandel_fuzz_target})
    set_tests_properties(fuzz_replay_${orvandel_fuzz_target} PROPERTIES TIMEOUT 120)
endforeach()
