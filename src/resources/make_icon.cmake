# Renders setup_icon.mvg at 16, 32 and 48 pixels and packs the three images
# into one .ico. Run with -DSOURCE=<mvg> -DOUTPUT=<ico> -DWORK=<folder>.
# The drawing is handed to ImageMagick inline: its usual policy refuses to
# read drawings from files.
find_program(CONVERT NAMES convert REQUIRED)
file(STRINGS "${SOURCE}" lines)
set(drawing "")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^#")
    string(APPEND drawing "${line}\n")
  endif()
endforeach()
set(images "")
foreach(scale 1 2 3)
  math(EXPR size "16 * ${scale}")
  # The smallest size stays crisp: smoothing a 16-pixel drawing only blurs it.
  if(scale EQUAL 1)
    set(smoothing +antialias)
  else()
    set(smoothing -antialias)
  endif()
  set(image "${WORK}/setup_icon_${size}.png")
  execute_process(
    COMMAND "${CONVERT}" -size ${size}x${size} xc:none ${smoothing}
            -affine ${scale},0,0,${scale},0,0 -draw "${drawing}"
            -define png:exclude-chunks=date,time "${image}"
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "convert could not draw the ${size}-pixel icon")
  endif()
  list(APPEND images "${image}")
endforeach()
execute_process(COMMAND "${CONVERT}" ${images} "${OUTPUT}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "convert could not write ${OUTPUT}")
endif()
