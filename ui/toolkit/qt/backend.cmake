# The Qt 6 Widgets backend of the dialog toolkit: dialogs and controls that imitate the
# dialog manager, a window menu of their own, icons drawn from the catalogue's SVG.
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg)

target_sources(quillet_toolkit PRIVATE
  toolkit/qt/application_qt.cpp
  toolkit/end_signals_posix.cpp
  toolkit/qt/control_handles.cpp
  toolkit/qt/dialog_builder.cpp
  toolkit/qt/dialog_qt.cpp
  toolkit/qt/dialog_window.cpp
  toolkit/qt/dialog_window.h
  toolkit/qt/fixed_frame.cpp
  toolkit/qt/icons_qt.cpp
  toolkit/qt/qt_testing.cpp
  toolkit/qt/qt_bytes.cpp
  toolkit/qt/qt_controls.cpp
  toolkit/qt/qt_controls.h
  toolkit/qt/queued_input_qt.cpp
  toolkit/qt/radio_groups.cpp
  toolkit/qt/accessibility_qt.cpp
  toolkit/qt/window_menu.cpp
)
set_target_properties(quillet_toolkit PROPERTIES AUTOMOC ON)
target_link_libraries(quillet_toolkit PUBLIC Qt6::Widgets PRIVATE Qt6::Svg)
