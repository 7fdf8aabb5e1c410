// The update wizard's part of the data set: a configuration that copies,
// runs, removes and encodes files, some of them SZDD-compressed, with the
// resource utility beside them.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "mkdata.h"
#include "platform/files.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

int WriteSzdd(const std::string& dir, const std::string& name, const std::string& text) {
    return mkdata_WriteFile(dir, name, mkdata_SzddBuild(Bytes(text)));
}

}  // namespace

int mkdata_WriteUpdate(const std::string& dir) {
    const std::string wiz = "[HEADER]\r\nCMD=KRXUPD.CFG\r\n";
    const std::string cfg =
        "; What the update wizard installs.\r\n"
        "[HEADER]\r\n"
        "EXE=KRX.EXE\r\n"
        "DST=UPDATED.PFF\r\n"
        "[PRECHECK]\r\n"
        "SRC=KRXUPD.SRC\r\n"
        "RESEXE=krxres\r\n"
        "UPD=KRXUPD.TXT\r\n"
        "[COPY]\r\n"
        "COPY=KRXNEWS.TXT,946684800,1 ; 1 January 2000\r\n"
        "COPY=KRXHELP.TXT,978307200,2\r\n"
        "[EXECUTE]\r\n"
        "EXE=krxres UPDATED.PFF KRXNOTE.TXT /ENCODE\r\n"
        "[REMOVE]\r\n"
        "REMOVE=KRXOLD.TXT\r\n";
    const std::string src =
        "[ADD]\r\n"
        "FILE=UPDMSG.TXT,1000000000,0\r\n"
        "[DUMP]\r\n"
        "ENTRY=KRXUPD.SRC\r\n"
        "ENTRY=KRXUPD.TXT\r\n";
    if (mkdata_WriteText(dir, "KRX.WIZ", wiz) != 0 || mkdata_WriteText(dir, "KRXUPD.CFG", cfg) != 0 ||
        WriteSzdd(dir, "KRXUPD.SRC", src) != 0 ||
        WriteSzdd(dir, "KRXUPD.TXT", "Update 1 of the sample data set.\r\n") != 0 ||
        WriteSzdd(dir, "KRXNEWS.TXT",
                  "News of the update: news news news, the same words again and again, news news news.\r\n") != 0 ||
        mkdata_WriteText(dir, "KRXHELP.TXT", "Help text installed as it stands.\r\n") != 0 ||
        mkdata_WriteText(dir, "KRXNOTE.TXT", "A note the update's command puts into UPDATED.PFF.\r\n") != 0 ||
        mkdata_WriteText(dir, "KRXOLD.TXT", "An old file the update removes.\r\n") != 0 ||
        WriteSzdd(dir, "UPDMSG.TXT", "The updated member of UPDATED.PFF.\r\n") != 0)
        return -1;

    // The resource utility, from beside the builder.
    char progDir[1024];
    if (plat_ProgramDir(progDir, sizeof progDir) != 0) return -1;
    std::string from = std::string(progDir) + "krxres";
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        fprintf(stderr, "mkdata: the resource utility %s is missing\n", from.c_str());
        return -1;
    }
    std::vector<uint8_t> exe((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (mkdata_WriteFile(dir, "krxres", exe) != 0) return -1;
    std::string to = dir + "/krxres";
    if (plat_FileModeCopy(from.c_str(), to.c_str()) != 0) return -1;
    return 0;
}
