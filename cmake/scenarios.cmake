# Scenarios of the real program: each runs as <prefix>.<scenario>, one at a time, since they run
# in real time and a busy machine would shift their ticks. A scenario whose tools are missing
# exits with 77 and counts as skipped. Besides <environment>, each is given WORK_DIR, the
# calling folder's build folder.
#
#   vemo_add_scenarios(<prefix> <script> <label> <timeout s> <environment> <scenario>...)
function(vemo_add_scenarios prefix script label timeout environment)
    foreach(scenario IN LISTS ARGN)
        add_test(NAME ${prefix}.${scenario} COMMAND ${script} ${scenario})
        set_tests_properties(${prefix}.${scenario} PROPERTIES
            LABELS ${label}
            TIMEOUT ${timeout}
            RUN_SERIAL TRUE
            SKIP_RETURN_CODE 77
            ENVIRONMENT "${environment};WORK_DIR=${CMAKE_CURRENT_BINARY_DIR}")
    endforeach()
endfunction()
