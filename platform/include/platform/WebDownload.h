// The web download seam: the news feed, its pictures and the server time ask for the bytes at an
// address through DownloadDataFromURL. This platform has no web access, so the function it
// installs returns nothing, as the device does without a connection; tests install a fake to
// reach every path of the callers. Any thread may download; installing is for start-up and tests.
#pragma once

namespace platform {

// Fills `buffer` (capacity bytes) with the data at a full "http://" address. Nonzero with *size
// = the bytes received on success; 0 with *size = 0 when nothing could be had.
using WebDownloadFunction = int (*)(const char* address, unsigned char* buffer, int capacity, int* size);

// Installs the function DownloadDataFromURL calls and returns the one before; null puts back the
// platform's own, which returns nothing (and says so once on stderr).
WebDownloadFunction SetWebDownloadFunction(WebDownloadFunction download);

}  // namespace platform

// Downloads through the installed function; a null address, buffer or size, or a capacity below
// 1, gives 0 without asking it.
int DownloadDataFromURL(const char* address, unsigned char* buffer, int capacity, int* size);
