# The layers of gui/: platform/ and rules/ are the ground, app/ stands on them, the
# windows (board, network, files, shell, engines) on app/. An include that runs back
# up (platform/ or rules/ into app/ or a window folder, app/ into a window folder)
# fails.
#   cmake -DGUI=<gui folder> -P capas.cmake
get_filename_component(GUI "${GUI}" ABSOLUTE)
set(ventanas "board|network|files|shell|engines")
set(capas platform rules app)
set(prohibidas_platform "app|${ventanas}")
set(prohibidas_rules "app|${ventanas}")
set(prohibidas_app "${ventanas}")

set(fallos "")
foreach(capa ${capas})
  file(GLOB_RECURSE fuentes RELATIVE "${GUI}" "${GUI}/${capa}/*.h" "${GUI}/${capa}/*.cpp")
  foreach(fuente ${fuentes})
    file(STRINGS "${GUI}/${fuente}" lineas REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(linea ${lineas})
      if(linea MATCHES "include[ \t]*[\"<]((${prohibidas_${capa}})/[^\">]+)[\">]")
        list(APPEND fallos "${fuente} ${CMAKE_MATCH_1}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(fallos)
  list(JOIN fallos "\n  " texto)
  message(FATAL_ERROR "Includes that run back up a layer of gui/:\n  ${texto}")
endif()
