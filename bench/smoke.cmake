# Runs every benchmark program once, briefly; fails when one of them fails. PROGRAMS is a |-separated list.
string(REPLACE "|" ";" programs "${PROGRAMS}")
foreach(program IN LISTS programs)
  message(STATUS "bench_smoke: ${program}")
  execute_process(COMMAND ${program} --benchmark_min_time=0.01 RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "bench_smoke: ${program} failed (${result})")
  endif()
endforeach()
