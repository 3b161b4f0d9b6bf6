# test_install: installs the build tree into a scratch prefix and checks what
# lands there: programs, desktop entry, icons, metainfo, man pages.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... [-DWITH_CTL=ON] -P check-install.cmake
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${prefix})
set(failures)
macro(fail message)
  list(APPEND failures "${message}")
endmacro()

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}); build kalvor, kalvor-sim and kalvor_packaging_files first:\n${err}")
endif()

set(id org.kalvor.Kalvor)
set(expected
  bin/kalvor bin/kalvor-sim
  share/applications/${id}.desktop
  share/metainfo/${id}.metainfo.xml
  share/icons/hicolor/scalable/apps/${id}.svg
  share/man/man1/kalvor.1.gz share/man/man1/kalvor-sim.1.gz
  share/doc/kalvor/copyright share/doc/kalvor/changelog.gz)
if(WITH_CTL)
  list(APPEND expected bin/kalvorctl share/man/man1/kalvorctl.1.gz
    lib/systemd/system/kalvor-backup.service lib/systemd/system/kalvor-backup.timer)
endif()
foreach(path ${expected})
  if(NOT EXISTS ${prefix}/${path})
    fail("missing: ${path}")
  endif()
endforeach()
# Every PNG of the theme is as large as the folder it is in says.
file(GLOB pngs RELATIVE ${prefix}/share/icons/hicolor ${prefix}/share/icons/hicolor/*/apps/${id}.png)
if(NOT pngs)
  fail("no PNG icon in share/icons/hicolor")
endif()
foreach(png ${pngs})
  string(REGEX MATCH "^([0-9]+)x([0-9]+)/" dirname ${png})
  file(READ ${prefix}/share/icons/hicolor/${png} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width_hex)
  string(SUBSTRING "${header}" 40 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    fail("${png}: not a PNG file")
  elseif(NOT width EQUAL CMAKE_MATCH_1 OR NOT height EQUAL CMAKE_MATCH_2)
    fail("${png}: ${width}x${height} pixels")
  endif()
endforeach()

# The desktop entry starts an installed program and names the installed icon;
# the metainfo launches that entry.
file(STRINGS ${prefix}/share/applications/${id}.desktop exec REGEX "^Exec=")
file(STRINGS ${prefix}/share/applications/${id}.desktop icon REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec "${exec}")
if(NOT EXISTS ${prefix}/bin/${exec})
  fail("desktop entry starts '${exec}', which is not installed in bin/")
endif()
if(NOT icon STREQUAL "Icon=${id}")
  fail("desktop entry names icon '${icon}'")
endif()
file(READ ${prefix}/share/metainfo/${id}.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<id>${id}</id>" OR NOT metainfo MATCHES "<launchable type=\"desktop-id\">${id}.desktop</launchable>")
  fail("metainfo does not name ${id} and its desktop entry")
endif()
# Every installed program is one the metainfo provides.
file(GLOB programs RELATIVE ${prefix}/bin ${prefix}/bin/*)
foreach(program ${programs})
  if(NOT metainfo MATCHES "<binary>${program}</binary>")
    fail("metainfo <provides> does not name ${program}")
  endif()
endforeach()

# The validators, where installed.
find_program(desktop_validate desktop-file-validate)
if(desktop_validate)
  execute_process(COMMAND ${desktop_validate} ${prefix}/share/applications/${id}.desktop
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR out MATCHES "error|warning")
    fail("desktop-file-validate: ${out}${err}")
  endif()
else()
  message(STATUS "desktop-file-validate not installed: desktop entry not validated")
endif()
find_program(appstream appstreamcli)
find_program(xmllint xmllint)
if(appstream)
  execute_process(COMMAND ${appstream} validate --no-net ${prefix}/share/metainfo/${id}.metainfo.xml
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
elseif(xmllint)
  execute_process(COMMAND ${xmllint} --noout ${prefix}/share/metainfo/${id}.metainfo.xml
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
else()
  set(rc 0)
  message(STATUS "neither appstreamcli nor xmllint installed: metainfo not validated")
endif()
if(NOT rc EQUAL 0)
  fail("metainfo: ${out}${err}")
endif()
find_program(man_program man)
if(man_program)
  foreach(page kalvor kalvor-sim kalvorctl)
    set(file ${prefix}/share/man/man1/${page}.1.gz)
    if(EXISTS ${file})
      execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 LC_ALL=C.UTF-8 ${man_program} --warnings -l ${file}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
      if(NOT rc EQUAL 0 OR err OR NOT out MATCHES "NAME")
        fail("man page ${page}.1: ${err}")
      endif()
    endif()
  endforeach()
endif()

# The installed programs run from the installed tree: kalvor prints its
# version without a display, kalvor-sim refuses an unknown option with 2.
set(runs "kalvor|--version|0" "kalvor-sim|--no-such-option|2")
if(WITH_CTL)
  list(APPEND runs "kalvorctl|--version|0")
endif()
foreach(run ${runs})
  string(REPLACE "|" ";" run "${run}")
  list(GET run 0 program)
  list(GET run 1 argument)
  list(GET run 2 status)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
                          ${prefix}/bin/${program} ${argument}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
  if(NOT rc STREQUAL status)
    fail("installed bin/${program} ${argument}: status ${rc}, expected ${status}: ${out}${err}")
  elseif(program STREQUAL "kalvor" AND NOT out STREQUAL "Kalvor 2.07\n")
    fail("installed bin/kalvor --version printed '${out}'")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "install tree ${prefix}:\n  ${text}")
endif()
file(REMOVE_RECURSE ${prefix})
message(STATUS "install tree complete")
