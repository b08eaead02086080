#pragma once

#include <QString>

struct dvd_reader_s;

// libdvdread (6.1) frees some tables twice when an information file ends in
// the middle of them, or a block under them cannot be read, and that ends
// the program: the title table, and the command table of any program chain. These checks find such
// a file before libdvdread (or libdvdnav, which reads the same files the same way) opens it, so
// that a damaged disc is refused with an error instead.
namespace IfoGuard
{

// What is wrong with the information file of title set `number` (0: the
// video manager) or its backup, in words; empty when libdvdread can read
// both safely (which does not mean that they are sound).
QString damage(dvd_reader_s *reader, int number);

} // namespace IfoGuard
