#pragma once

#include <QString>

struct dvd_reader_s;

// libdvdread (6.1) frees some tables twice when an information file ends in
// the middle of them, or a block under them cannot be read, and that ends
// the program: the title table, and the command table of any program chain.
// libdvdnav trusts every offset and number of the tables it reads (see
// ifoconsistency.h). These checks find such a file before libdvdread (or
// libdvdnav, which reads the same files the same way) opens it, so that a
// damaged disc is refused with an error instead.
namespace IfoGuard
{

// What is wrong with the information file of title set `number` (0: the
// video manager) or its backup, in words; a title set's titles are checked
// against the video manager's files too. Empty when libdvdread and
// libdvdnav can use both safely (which does not mean that they are sound).
QString damage(dvd_reader_s *reader, int number);

} // namespace IfoGuard
