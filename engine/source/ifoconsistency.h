#pragma once

#include <QString>

class InfoFile;

// Rules the tables of an information file keep on a sound disc and that
// libdvdnav trusts without looking: every table lies where its offset says,
// inside its file and inside the table that holds it; every program, cell,
// angle and chapter number stays within what its tables hold. A file that
// breaks one crashes libdvdnav, trips its assertions or sends it round in
// circles while it plays.
namespace IfoConsistency
{

// The first rule the video manager's file breaks, in words; empty when none.
QString managerFault(const InfoFile &manager);
// The same for the file of a title set.
QString titleSetFault(const InfoFile &titleSet);
// The first rule that the titles the video manager places in title set
// `number` break against the tables of that set.
QString titlesFault(const InfoFile &manager, const InfoFile &titleSet, int number);

} // namespace IfoConsistency
