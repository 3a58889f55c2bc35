# Lays out the portable program folder in STAGE: the three program files, the help, all five string
# files and skin sets under lang/, and English installed (Strings.xml and Skins/).
# cmake -DSTAGE=... -DFILES="exe|exe|dll" -DSTRINGS=<folder> -DHELP=<folder> -DSKINSETS=<folder> -DLANGUAGES="EN|..." -P stage.cmake
string(REPLACE "|" ";" FILES "${FILES}")
string(REPLACE "|" ";" LANGUAGES "${LANGUAGES}")
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/lang)
file(COPY ${FILES} DESTINATION ${STAGE})
file(COPY ${HELP} DESTINATION ${STAGE})
foreach(lang ${LANGUAGES})
  file(COPY ${STRINGS}/Strings.${lang}.xml DESTINATION ${STAGE}/lang)
  file(COPY ${SKINSETS}/${lang}/ DESTINATION ${STAGE}/lang/Skins.${lang})
endforeach()
file(COPY ${STRINGS}/Strings.EN.xml DESTINATION ${STAGE})
file(RENAME ${STAGE}/Strings.EN.xml ${STAGE}/Strings.xml)
file(COPY ${SKINSETS}/EN/ DESTINATION ${STAGE}/Skins)
