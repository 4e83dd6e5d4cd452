# Compiles help.chm in a staging folder (cmake -P): the pages, and the screenshots they show
# as ../screenshots/NAME.png, which inside the help file sit in screenshots/ below the pages.
# Any warning of chmcmd (a link to a missing page or picture) fails the build.
#   -DCHMCMD=chmcmd -DPAGES=docs/help -DSCREENSHOTS=docs/screenshots -DSTAGE=<folder>
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/screenshots)
file(GLOB pages ${PAGES}/*.html)
file(GLOB project ${PAGES}/*.css ${PAGES}/*.hhp ${PAGES}/*.hhc ${PAGES}/*.hhk)
file(COPY ${project} DESTINATION ${STAGE})
file(GLOB screenshots ${SCREENSHOTS}/*.png)
file(COPY ${screenshots} DESTINATION ${STAGE}/screenshots)
foreach(page ${pages})
  file(READ ${page} text)
  string(REPLACE "../screenshots/" "screenshots/" text "${text}")
  get_filename_component(name ${page} NAME)
  file(WRITE ${STAGE}/${name} "${text}")
endforeach()

execute_process(COMMAND ${CHMCMD} help.hhp WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR output MATCHES "Warning|Error" OR NOT EXISTS ${STAGE}/help.chm)
  message(FATAL_ERROR "chmcmd could not compile the help cleanly:\n${output}")
endif()
