# The Windows resource script of a program: icons 128 and 133 made at build time from the
# SVG drawings (rsvg-convert and icotool, Debian's librsvg2-bin and icoutils), string 101,
# the version and the manifest.

find_program(QUILLET_RSVG_CONVERT rsvg-convert)
find_program(QUILLET_ICOTOOL icotool)
if(NOT QUILLET_RSVG_CONVERT OR NOT QUILLET_ICOTOOL)
  message(FATAL_ERROR "The Windows icons need rsvg-convert and icotool "
                      "(Debian: librsvg2-bin, icoutils; scripts/install-deps installs them)")
endif()

set(_quillet_resources_dir ${CMAKE_CURRENT_LIST_DIR})

# Sizes a Windows icon is shown at, up to 150 % scaling; 256 is kept as PNG.
function(_quillet_svg_to_ico svg ico)
  get_filename_component(stem ${ico} NAME_WE)
  get_filename_component(dir ${ico} DIRECTORY)
  set(dir ${dir}/icon_sizes)
  set(commands)
  set(pngs)
  foreach(size 16 20 24 32 40 48 64 256)
    set(png ${dir}/${stem}-${size}.png)
    list(APPEND commands COMMAND ${QUILLET_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg})
    if(size EQUAL 256)
      list(APPEND pngs --raw=${png})
    else()
      list(APPEND pngs ${png})
    endif()
  endforeach()
  add_custom_command(OUTPUT ${ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    ${commands}
    COMMAND ${QUILLET_ICOTOOL} -c -o ${ico} ${pngs}
    DEPENDS ${svg}
    COMMENT "Making ${stem}.ico from its drawing"
    VERBATIM)
endfunction()

# Adds the resources to an executable; the icons and the script are made once for all.
function(quillet_add_windows_resources target)
  set(out ${PROJECT_BINARY_DIR}/windows_resources)
  set(QUILLET_APP_ICO ${out}/app_icon.ico)
  set(QUILLET_WARNING_ICO ${out}/warning_icon.ico)
  set(QUILLET_MANIFEST ${out}/quillet.manifest)
  set(rc ${out}/quillet.rc)
  if(NOT TARGET quillet_windows_icons)
    _quillet_svg_to_ico(${PROJECT_SOURCE_DIR}/ui/resources/app_icon.svg ${QUILLET_APP_ICO})
    _quillet_svg_to_ico(${PROJECT_SOURCE_DIR}/ui/resources/warning_icon.svg ${QUILLET_WARNING_ICO})
    add_custom_target(quillet_windows_icons DEPENDS ${QUILLET_APP_ICO} ${QUILLET_WARNING_ICO})
    set(QUILLET_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
    set(QUILLET_VERSION_DOTS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
    configure_file(${_quillet_resources_dir}/quillet.manifest.in ${QUILLET_MANIFEST} @ONLY)
    configure_file(${_quillet_resources_dir}/quillet.rc.in ${rc} @ONLY)
  endif()
  set_source_files_properties(${rc} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES
    OBJECT_DEPENDS "${QUILLET_APP_ICO};${QUILLET_WARNING_ICO};${QUILLET_MANIFEST}")
  target_sources(${target} PRIVATE ${rc})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  add_dependencies(${target} quillet_windows_icons)
endfunction()
