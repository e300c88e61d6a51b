// Which addresses may be handed to the shell. The shell runs whatever it is
// given (programs, documents, file: addresses), and a bookmark may come from
// someone else's file, so only web addresses go that way.
#pragma once

// True for http:, https: and ftp: addresses, the scheme in any letter case.
bool is_web_address(const char* url);
