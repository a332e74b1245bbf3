# Draws the product's icon from its one source, il3-setup.svg, into PNG files
# of the build tree, at configure time: the Linux icon theme, the Qt window and
# the .exe's icon all take these files, so both programs show the same picture.
#
# Sets IL3_ICONE_SVG, IL3_ICONE_DIR and IL3_ICONE_TAILLES; the image of side N
# is ${IL3_ICONE_DIR}/il3-setup-N.png.

set(IL3_ICONE_SVG ${CMAKE_CURRENT_LIST_DIR}/il3-setup.svg)
set(IL3_ICONE_DIR ${PROJECT_BINARY_DIR}/icone)
# The icon theme's usual sizes; 256 is also the .exe's large image.
set(IL3_ICONE_TAILLES 16 22 24 32 48 64 128 256)

find_program(IL3_RSVG_CONVERT rsvg-convert)
if(NOT IL3_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert (Debian: librsvg2-bin) is needed to draw the icon; scripts/install-deps.sh installs it")
endif()

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${IL3_ICONE_SVG})
file(MAKE_DIRECTORY ${IL3_ICONE_DIR})
foreach(_s IN LISTS IL3_ICONE_TAILLES)
  set(_png ${IL3_ICONE_DIR}/il3-setup-${_s}.png)
  if(NOT EXISTS ${_png} OR ${IL3_ICONE_SVG} IS_NEWER_THAN ${_png})
    execute_process(COMMAND ${IL3_RSVG_CONVERT} -w ${_s} -h ${_s} -o ${_png} ${IL3_ICONE_SVG}
                    RESULT_VARIABLE _r ERROR_VARIABLE _e)
    if(NOT _r EQUAL 0)
      file(REMOVE ${_png})
      message(FATAL_ERROR "icon: rsvg-convert could not draw ${_s} px: ${_e}")
    endif()
  endif()
endforeach()
