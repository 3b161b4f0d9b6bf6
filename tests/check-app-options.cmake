# test_app_options: kalvor's start-up options, run without a display.
#   cmake -DKALVOR=path/to/kalvor -P check-app-options.cmake
# Each row: name | arguments (comma-separated) | exit status | pattern that
# the output must match. The rows with Qt's -platform option show that Qt's
# own options reach Qt and ours still reach our checks; none of them gets as
# far as opening the window.
set(rows
  "help|--help|0|--address <A.B.C.D>.*--port <N>.*--trace <FILE>"
  "help, short|-h|0|--version"
  "version|--version|0|^Kalvor 2.07\n$"
  "version, short|-v|0|^Kalvor 2.07\n$"
  "version after a Qt option|-reverse,--version|0|^Kalvor 2.07\n$"
  "address of three parts|-platform,offscreen,--address,127.0.7|2|kalvor: --address: not a dotted IPv4 address.*: 127.0.7"
  "address part beyond 255|-platform,offscreen,--address,127.0.0.256|2|not a dotted IPv4 address.*: 127.0.0.256"
  "multicast address|-platform,offscreen,--address,239.1.2.3|2|kalvor: --address: a multicast address is not a module address: 239.1.2.3"
  "broadcast address|-platform,offscreen,--address,255.255.255.255|2|kalvor: --address: the broadcast address"
  "port 0|-platform,offscreen,--address,127.0.0.1,--port,0|2|kalvor: not a UDP port: 0"
  "port beyond 65535|-platform,offscreen,-style,Fusion,--port,65536|2|not a UDP port: 65536"
  "port not a number|-platform,offscreen,--port,x161|2|not a UDP port: x161"
  "address without value|-platform,offscreen,--address|2|Missing value.*usage: kalvor"
  "unknown option|-platform,offscreen,--adress,127.0.0.1|2|Unknown option 'adress'.*usage: kalvor"
  "trace file that cannot be opened|-platform,offscreen,--trace,${CMAKE_CURRENT_LIST_DIR}/no-such-dir/trace.txt|2|kalvor: .*no-such-dir/trace.txt: cannot open the trace file"
  "stray argument|-platform,offscreen,127.0.0.1|2|usage: kalvor"
  "reset settings|--reset-settings|0|^Kalvor: settings forgotten \\(.*/kalvor/kalvor.conf\\)\n$")
set(failures)
foreach(row ${rows})
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 arguments)
  list(GET fields 2 status)
  list(GET fields 3 pattern)
  string(REPLACE "," ";" arguments "${arguments}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
                          ${KALVOR} ${arguments}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
  string(APPEND out "${err}")
  if(NOT rc STREQUAL status)
    list(APPEND failures "${name}: status ${rc}, expected ${status}: ${out}")
  elseif(NOT out MATCHES "${pattern}")
    list(APPEND failures "${name}: output does not match '${pattern}': ${out}")
  endif()
endforeach()
if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "kalvor start-up options:\n  ${text}")
endif()
