# Host names of the endpoints and web pages. They are build configuration:
# the people who ship the installer set them; code reads them only through
# base/build_config.h.
set(LITE_DOWNLOAD_HOST "download.korvex.example" CACHE STRING "Host serving the browser's full setup packages")
set(LITE_LEGAL_HOST "legal.korvex.example" CACHE STRING "Host of the licence and privacy documents")
set(LITE_STATS_HOST "report.korvex.example" CACHE STRING "Host receiving status and completion reports (https)")
set(LITE_CLICK_STATS_HOST "clck.korvex.example" CACHE STRING "Host receiving milestone counters and click reports (http)")
set(LITE_PRODUCT_SITE_STEM "browser.korvex." CACHE STRING "Product site host without its top-level domain, ending in a dot")
configure_file(${PROJECT_SOURCE_DIR}/base/build_config_values.h.in
               ${PROJECT_BINARY_DIR}/generated/build_config_values.h @ONLY)
