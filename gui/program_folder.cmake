# Lays out Tavorin's program folder DEST from the build (TAVORIN, ORVIK) and the
# resources folder RESOURCES. Default.ini is copied only when DEST has none, so the
# settings the program saved survive a rebuild.
file(MAKE_DIRECTORY ${DEST})
file(COPY ${TAVORIN} DESTINATION ${DEST}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(NOT EXISTS ${DEST}/Default.ini)
  file(COPY ${RESOURCES}/Default.ini DESTINATION ${DEST})
endif()

# The help page, opened by the help menu item.
file(COPY ${RESOURCES}/Tavorin.html DESTINATION ${DEST})

file(GLOB idiomas ${RESOURCES}/lang/*.lng)
foreach(f IN LISTS idiomas)
  file(COPY ${f} DESTINATION ${DEST})
endforeach()

if(EXISTS ${RESOURCES}/apariencias)
  file(COPY ${RESOURCES}/apariencias DESTINATION ${DEST})
endif()
if(EXISTS ${RESOURCES}/Sonidos)
  file(COPY ${RESOURCES}/Sonidos DESTINATION ${DEST})
endif()

file(MAKE_DIRECTORY ${DEST}/Motor/Orvik)
file(COPY ${ORVIK} DESTINATION ${DEST}/Motor/Orvik
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The opening book the build made; a book made or changed in the folder is kept.
if(DEFINED ORVIK_BOOK AND NOT EXISTS ${DEST}/Motor/Orvik/kvbook.bin)
  file(COPY ${ORVIK_BOOK} DESTINATION ${DEST}/Motor/Orvik)
endif()
