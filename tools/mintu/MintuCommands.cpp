// The table of mintu's commands and their help texts.

#include "MintuCli.h"

namespace MintuCli {

const Command kCommands[] = {
    {"version", "normalise, convert, compare and sort core versions",
     "Usage: mintu version normalize VERSION...   the normal form (3.1, 1.00.a)\n"
     "       mintu version underscore VERSION...  the form used in core names (_v3_1)\n"
     "       mintu version compare A B            prints <, = or >\n"
     "       mintu version sort [VERSION...]      sorts the arguments, or the lines of stdin\n"
     "Versions: Mintaro notation (3.1, v3_1) or PSF notation (1.00.a, v1_00_a).\n"
     "normalize fails (status 1) for a text in neither notation.\n",
     RunVersion},
    {"checksum", "print the checksum text of a file's data lines",
     "Usage: mintu checksum FILE\n"
     "Prints the eight-character checksum of the lines of FILE that hold no '#'.\n",
     RunChecksum},
    {"stamp", "write or renew the \"# CRC:\" stamp of a file",
     "Usage: mintu stamp FILE\n"
     "Renews the checksum after the first \"# CRC:\" of FILE, or appends a stamp line\n"
     "(inside a comment for XML files).\n",
     RunStamp},
    {"verify", "check the stamps of files",
     "Usage: mintu verify FILE...\n"
     "One line per file. Status 0 only when every file validates (a file without\n"
     "a stamp validates).\n",
     RunVerify},
    {"filelist", "print the existing members of a file list",
     "Usage: mintu filelist [--full] LIST\n"
     "Members as written, or with --full behind the list's own directory. Missing\n"
     "members are reported as warnings and left out.\n",
     RunFileList},
    {"expand", "expand ${NAME} references and the ${ORVANE} form",
     "Usage: mintu expand TEXT...\n"
     "${NAME} takes the value of the environment variable NAME. A text that begins\n"
     "with ${ORVANE} names a path looked up under the install roots.\n",
     RunExpand},
    {"find", "look a name up under the install roots",
     "Usage: mintu find [--container] NAME...\n"
     "The first install root holding NAME wins. With --container NAME is looked up\n"
     "inside the core library directories (mintaro/ip/orvane/*) of each root.\n",
     RunFind},
    {"java", "the Java program of the installation", "Usage: mintu java\n", RunJava},
    {"release", "the installed and the next major release", "Usage: mintu release\n", RunRelease},
    {"cores-level", "the installed IP core update level",
     "Usage: mintu cores-level\n"
     "Read from the first install root holding a readable IPupdate.log.\n",
     RunCoresLevel},
    {"component", "write a SPIRIT 1.4 component description",
     "Usage: mintu component --vendor V --library L --name N --version VER\n"
     "                       [--description TEXT] [--port NAME:DIR[:LEFT:RIGHT]]...\n"
     "                       [--param NAME[:FORMAT[:RESOLVE]]=VALUE]... [-o FILE]\n"
     "DIR is in, out, inout or phantom; LEFT and RIGHT are non-negative integers;\n"
     "FORMAT is bitString, bool, float, long or string; RESOLVE is immediate, user,\n"
     "dependent or generated. Writes to FILE, or to stdout.\n",
     RunComponent},
    {"diff", "compare two XML files as the XML model does",
     "Usage: mintu diff [--quiet] A B\n"
     "Status 0 when the files are equal (repeated tags in any order), 1 when they\n"
     "differ, 2 when one cannot be read. Prints the tag path to the first differing\n"
     "element on each side and what differs there; --quiet prints nothing.\n",
     RunDiff},
    {"format", "write an XML file again in the XML model's layout",
     "Usage: mintu format [--sort] FILE|-\n"
     "Writes FILE (- reads stdin) to stdout with two-space indent, one element per\n"
     "line; comments are dropped. --sort puts every element's children in the\n"
     "model's order (the result may then no longer follow a schema's order).\n",
     RunFormat},
};

const int kCommandCount = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);

}  // namespace MintuCli
