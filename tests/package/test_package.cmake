# cmake -DCPACK=... -DCONFIG=.../CPackConfig.cmake -DWORK=dir -P test_package.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err WORKING_DIRECTORY ${WORK})
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${status}):\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

run(${CPACK} -G DEB --config ${CONFIG} -B ${WORK})
file(GLOB debs ${WORK}/tarvel_*_amd64.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one tarvel_<version>_amd64.deb in ${WORK}, found: ${debs}")
endif()

run(dpkg-deb --field ${debs} Depends)
foreach(needed qt6-translations-l10n fonts-ipafont-gothic libqt6sql6-sqlite libqt6sql6-psql)
    if(NOT out MATCHES "${needed}")
        message(FATAL_ERROR "Depends lacks ${needed}: ${out}")
    endif()
endforeach()
run(dpkg-deb --contents ${debs})
foreach(file usr/bin/tarvel usr/bin/tarvel-admin usr/share/applications/tarvel.desktop
        usr/share/icons/hicolor/scalable/apps/tarvel.svg usr/share/man/man1/tarvel-admin.1.gz
        usr/share/doc/tarvel/copyright usr/share/doc/tarvel/manual.html
        usr/share/doc/tarvel/manual.pdf usr/share/doc/tarvel/images/menu.png)
    if(NOT out MATCHES "\\./${file}\n")
        message(FATAL_ERROR "the package lacks ${file}:\n${out}")
    endif()
endforeach()

run(dpkg -x ${debs} ${WORK}/root)
run(${WORK}/root/usr/bin/tarvel-admin --help)
if(NOT out MATCHES "backup DB DEST-FOLDER")
    message(FATAL_ERROR "unexpected help:\n${out}")
endif()
run(${WORK}/root/usr/bin/tarvel-admin create ${WORK}/new.sqlite)
run(${WORK}/root/usr/bin/tarvel-admin check ${WORK}/new.sqlite)
message(STATUS "package ${debs} installs and runs")
