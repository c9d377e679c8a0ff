# captura: screenshots of an X display and what the window checks under Xvfb look
# for in them (tests/e2e/gui/ventanas_xvfb.py).
if(TVO_BUILD_GUI)
  add_executable(captura ${TOOL_DIR}/captura.cpp)
  target_link_libraries(captura PRIVATE Qt6::Gui)
endif()
