// What the link check needs of its system beyond the link: a wait that lets the link's events
// in (a thread's sleep on Windows; in a page, a return to the event loop), and a way to trust
// the test's own certificate authority where the system has no setting for it.
#pragma once

void check_wait_ms(int milliseconds);
// False when the certificate in pem_file cannot be trusted.
bool check_trust(const char* pem_file);
