#pragma once

#include "MyCode/CurlGlobal.h"
#include "cli/CliArgs.h"
#include "cli/CliFrontEnd.h"
#include "core/LumarexCore.h"
#include "run/RunController.h"

#include <memory>

// Exit status of talvoria-cli.
enum CliExit : int { EXIT_DONE = 0, EXIT_ERROR = 1, EXIT_USAGE = 2, EXIT_NO_ALBUM = 3, EXIT_INCOMPLETE = 4 };

// Everything one command shares with the window: the application folder with soft.dat and the
// cookie store, the core, and the stop signals (SIGINT, SIGTERM, SIGHUP) while a run is waited for.
class CCliSession {
public:
    explicit CCliSession(const CliArgs& args);
    ~CCliSession();

    CLumarexCore& Core() { return *m_core; }
    CRunController& Runs() { return *m_runs; }
    CCliFrontEnd& FrontEnd() { return m_frontEnd; }
    // False when the cookies file to import cannot be read.
    bool CookiesImported() const { return m_cookiesImported; }

    // Waits for the run started last; a first stop signal requests its stop (as a second press of
    // the button would), a second one ends the program with 128 + its number. Whether the run did
    // its work.
    bool WaitForRun();
    // Whether a stop signal requested a stop in any run of this session.
    bool Interrupted() const { return m_interrupted; }
    // The first stop signal that reached a run of this process, 0 when none did: the program
    // then exits with 128 + it, whatever the command returned.
    static int StopSignal();
    // The exit status of a download run that ran (the driver returned true): 4 when it completed
    // but a listed picture was not saved.
    int DownloadExit() const;

private:
    CCurlGlobal m_curl;
    CCliFrontEnd m_frontEnd;
    std::unique_ptr<CLumarexCore> m_core;
    std::unique_ptr<CRunController> m_runs;
    bool m_cookiesImported = true;
    bool m_interrupted = false;
};

// The family named by --service (index or short name); without one, family 0 followed by the
// address recognition. -1 when --service names no family.
int ChooseFamily(const CliArgs& args, const QString& address);
