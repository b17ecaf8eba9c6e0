// The table of mintu's commands, their options and their help texts. A new
// subcommand adds a row here and a Run function declared in MintuCli.h.

#include "MintuCli.h"
#include "MintuComponentArgs.h"

namespace MintuCli {

const std::vector<Command> kCommands = {
    {"version",
     "normalise, convert, compare and sort core versions",
     "Usage: mintu version normalize VERSION...   the normal form (3.1, 1.00.a)\n"
     "       mintu version underscore VERSION...  the form used in core names (_v3_1)\n"
     "       mintu version compare A B            prints <, = or >\n"
     "       mintu version sort [VERSION... | -]  sorts the arguments, or the lines of\n"
     "                                            the standard input (none given, or -)\n"
     "Versions: Mintaro notation (3.1, v3_1) or PSF notation (1.00.a, v1_00_a).\n"
     "normalize fails (status 1) for a text in neither notation.\n",
     {},
     RunVersion},
    {"checksum",
     "print the checksum text of a file's data lines",
     "Usage: mintu checksum FILE\n"
     "Prints the eight-character checksum of the lines of FILE that hold no '#'\n"
     "(\"-\" is the standard input). Only regular files are read: a FIFO, a device\n"
     "or a directory is refused at once.\n",
     {},
     RunChecksum},
    {"stamp",
     "write or renew the \"# CRC:\" stamp of files",
     "Usage: mintu stamp FILE...\n"
     "Renews the checksum after the first \"# CRC:\" of each FILE (\"unchanged\" when it\n"
     "already validates, in either case), or appends a stamp line in the file's line\n"
     "ends: \"<!-- # CRC: xxxxxxxx -->\" when the content is XML (after an optional\n"
     "byte-order mark, the first non-blank character is '<'), else \"# CRC: xxxxxxxx\".\n"
     "The first \"# CRC:\" must be a stamp: one separating character and eight\n"
     "checksum characters that end the line or are followed by \"-->\".\n"
     "The file is replaced whole (old content or new, never a mix) and keeps its mode,\n"
     "owner, group, ACL and extended attributes; a symbolic link is followed and its\n"
     "target stamped; an interrupted stamp leaves no temporary file. Refused, the\n"
     "file left as it was: anything but a regular file, files holding NUL bytes,\n"
     "files without write permission in their mode (also for the superuser), files\n"
     "with several hard links (replacing one would split them), and files changed by\n"
     "another process while they were stamped.\n",
     {},
     RunStamp},
    {"verify",
     "check the stamps of files",
     "Usage: mintu verify FILE...\n"
     "One line per file (\"-\", once, is the standard input). Status 0 only when every\n"
     "file validates (a file without a stamp validates; the stamp's checksum may be in\n"
     "either case).\n",
     {},
     RunVerify},
    {"filelist",
     "print the existing members of a file list",
     "Usage: mintu filelist [--full] LIST\n"
     "Members as written, or with --full behind the list's own directory (\"-\" reads\n"
     "the list from the standard input, relative to the current directory). Missing\n"
     "members are reported as warnings and left out.\n",
     {{"full", 'f', false}},
     RunFileList},
    {"expand",
     "expand ${NAME} references and the ${ORVANE} form",
     "Usage: mintu expand TEXT...\n"
     "${NAME} takes the value of the environment variable NAME. A text that begins\n"
     "with ${ORVANE} names a path looked up under the install roots.\n",
     {},
     RunExpand},
    {"find",
     "look a name up under the install roots",
     "Usage: mintu find [--container] NAME...\n"
     "The first install root holding NAME wins. With --container NAME is looked up\n"
     "inside the core library directories (mintaro/ip/orvane/*) of each root.\n",
     {{"container", 'c', false}},
     RunFind},
    {"java", "the Java program of the installation", "Usage: mintu java\n", {}, RunJava},
    {"release",
     "the installed and the next major release",
     "Usage: mintu release\n",
     {},
     RunRelease},
    {"cores-level",
     "the installed IP core update level",
     "Usage: mintu cores-level\n"
     "Read from the first install root holding a readable IPupdate.log.\n",
     {},
     RunCoresLevel},
    {"component", "write a SPIRIT 1.4 component description",
     "Usage: mintu component --vendor V --library L --name N --version VER\n"
     "                       [--description TEXT | --description-file FILE]\n"
     "                       [--port NAME:DIR[:LEFT:RIGHT]]...\n"
     "                       [--param NAME[:FORMAT[:RESOLVE]]=VALUE]... [-o FILE]\n"
     "DIR is in, out, inout or phantom; LEFT and RIGHT are non-negative integers;\n"
     "FORMAT is bitString, bool, float, long or string; RESOLVE is immediate, user,\n"
     "dependent or generated. Vendor and library are XML names, the other names XML\n"
     "name tokens; texts are UTF-8 without control characters other than tab and\n"
     "line ends. --description-file - reads the description from the standard input.\n"
     "Writes to FILE (replaced whole, refused as by stamp when it has several hard\n"
     "links or no write permission), or to the standard output (no -o, or -o -).\n",
     ComponentOptions(), RunComponent},
    {"diff",
     "compare two XML files as the XML model does",
     "Usage: mintu diff [--quiet] A B\n"
     "Status 0 when the files are equal (repeated tags in any order), 1 when they\n"
     "differ, 2 when one cannot be read. Prints the tag path to the first differing\n"
     "element on each side and what differs there; --quiet prints nothing.\n",
     {},
     RunDiff},
    {"format",
     "write an XML file again in the XML model's layout",
     "Usage: mintu format [--sort] FILE|-\n"
     "Writes FILE (- reads stdin) to stdout with two-space indent, one element per\n"
     "line; comments are dropped. --sort puts every element's children in the\n"
     "model's order (the result may then no longer follow a schema's order).\n",
     {{"sort", 0, false}},
     RunFormat},
};

}  // namespace MintuCli
