# Writes the page's service worker (cmake -P, after the program is linked). Its cache is named by
# the version and a digest of the files it keeps, so a new version replaces the cache a browser
# holds, and so does any rebuild under the same version (a developer's reload never runs an older
# build). Inputs: TEMPLATE, DIR (the build folder with the page's files), VERSION.
set(files quibbet.html quibbet.js quibbet.wasm quibbet.webmanifest quibbet-192.png quibbet-512.png)
set(digests "")
foreach(name ${files})
    file(SHA256 ${DIR}/${name} digest)
    string(APPEND digests ${digest})
endforeach()
string(SHA256 digest "${digests}")
string(SUBSTRING ${digest} 0 12 digest)
set(CACHE_NAME "quibbet-${VERSION}-${digest}")
configure_file(${TEMPLATE} ${DIR}/service_worker.js @ONLY)
