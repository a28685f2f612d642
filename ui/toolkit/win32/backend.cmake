# The Win32 backend of the dialog toolkit: dialogs built in memory for the dialog manager,
# the standard controls, the real system menu, icons and strings from the program's
# resources.
set(quillet_win32_dir ${CMAKE_CURRENT_LIST_DIR})
target_sources(quillet_toolkit PRIVATE
  ${quillet_win32_dir}/accessible_names.cpp
  ${quillet_win32_dir}/application_base_win32.cpp
  ${quillet_win32_dir}/controls_win32.cpp
  ${quillet_win32_dir}/dialog_win32.cpp
  ${quillet_win32_dir}/dialog_window.cpp
  ${quillet_win32_dir}/drop_down_choice.cpp
  ${quillet_win32_dir}/icon_handles.cpp
  ${quillet_win32_dir}/latin1_text.cpp
  ${quillet_win32_dir}/native_template.cpp
  ${quillet_win32_dir}/no_scroll_edit.cpp
  ${quillet_win32_dir}/one_click_button.cpp
  ${quillet_win32_dir}/paint_context_win32.cpp
  ${quillet_win32_dir}/queued_input_win32.cpp
  ${quillet_win32_dir}/system_menu_win32.cpp
  ${quillet_win32_dir}/testing_win32.cpp
)
target_compile_definitions(quillet_toolkit PRIVATE NOMINMAX WIN32_LEAN_AND_MEAN)
# ole32 and uuid: the accessible names' annotation service.
target_link_libraries(quillet_toolkit PUBLIC comctl32 ole32 uuid)

include(${PROJECT_SOURCE_DIR}/ui/resources/win32/resources.cmake)

# The program carries the icons, string 101, its version and its manifest.
function(quillet_toolkit_program target)
  quillet_add_windows_resources(${target})
endfunction()
