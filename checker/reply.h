// Reading a server's reply: its status code and its header lines.
#pragma once

#include <cstddef>
#include <cstdint>

// The status code of the reply's status line ("HTTP/1.1 404 Not Found"),
// which must open the reply; 0 when there is none.
uint32_t reply_status(const char* reply);

// The body: what follows the first empty line (CRLF CRLF or LF LF); null
// while the headers are not complete.
const char* reply_body(const char* reply);

// The value of the first header line with the name (any letter case) after
// the status line, blanks around it cut off, or null; *length receives its length.
const char* find_header(const char* reply, const char* name, size_t* length);
