# The supplied data files and help pages, in <prefix>/share/kqvdr1000-control beside the
# program's <prefix>/bin, on Linux and Windows alike: the program seeds each user's data
# directory from there.
set(KQVDR_SHARE_DIR share/kqvdr1000-control)

# Whatever supplied files the build generates beside the program (method files, "Test.seq"),
# never the files a run from the build tree may have left there for its operator. The program
# applies the same rule when it seeds a data directory.
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/ DESTINATION ${KQVDR_SHARE_DIR}
        FILES_MATCHING PATTERN "*.mtd" PATTERN "*.seq"
        PATTERN "Names.mtd" EXCLUDE PATTERN "Methods.mtd" EXCLUDE PATTERN "Auto.seq" EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/help/ DESTINATION ${KQVDR_SHARE_DIR}/help)
