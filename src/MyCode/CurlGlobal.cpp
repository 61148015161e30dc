#include "MyCode/CurlGlobal.h"

#include <curl/curl.h>

CCurlGlobal::CCurlGlobal()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

CCurlGlobal::~CCurlGlobal()
{
    curl_global_cleanup();
}
