// A session manager for the logout tests, on libSM's own side of the X
// session management protocol (XSMP): it runs a command as its session, with
// SESSION_MANAGER naming it, and appends each message a client sends it to a
// log, one line each. On SIGUSR1 it starts a logout: every client is asked to
// save itself (SaveYourself: both kinds of data, shutdown, any interaction;
// on SIGUSR2 the same with no interaction). Each interaction asked for is
// granted, and once a client is done the logout is called off for it
// (ShutdownCancelled), so the session goes on for the next test. It ends
// with the command's exit status.
//
// Usage: session_manager LOG COMMAND [ARG...]
//   the command also gets QUORVALE_SM_LOG (LOG) and QUORVALE_SM_PID.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

FILE* logFile;
int wakeUp[2];  // written by the signal handlers
std::vector<SmsConn> clients;
std::vector<IceConn> connections;

void logLine(const std::string& line) {
    std::fprintf(logFile, "%s\n", line.c_str());
    std::fflush(logFile);
}

void onSignal(int signal) {
    const char c = static_cast<char>(signal);
    (void)!write(wakeUp[1], &c, 1);
}

Status registerClient(SmsConn conn, SmPointer, char* previousId) {
    std::free(previousId);
    char* id = SmsGenerateClientID(conn);
    logLine("RegisterClient");
    const Status status = SmsRegisterClientReply(conn, id);
    std::free(id);
    return status;
}

void interactRequest(SmsConn conn, SmPointer, int) {
    logLine("InteractRequest");
    SmsInteract(conn);
}

void interactDone(SmsConn, SmPointer, Bool cancelShutdown) {
    logLine(std::string("InteractDone cancel=") + (cancelShutdown ? "1" : "0"));
}

void saveYourselfDone(SmsConn conn, SmPointer, Bool success) {
    logLine(std::string("SaveYourselfDone success=") + (success ? "1" : "0"));
    SmsShutdownCancelled(conn);
}

// Lets go of a connection whose client left without saying goodbye: its
// session-management side first, or ICE keeps the connection as in use.
void dropConnection(IceConn ice) {
    std::erase_if(clients, [ice](SmsConn client) {
        if (SmsGetIceConnection(client) != ice) return false;
        SmsCleanUp(client);
        return true;
    });
    std::erase(connections, ice);
    IceSetShutdownNegotiation(ice, False);
    IceCloseConnection(ice);
}

void closeConnection(SmsConn conn, SmPointer, int count, char** reasons) {
    logLine("CloseConnection");
    SmFreeReasons(count, reasons);
    std::erase(clients, conn);
    IceConn ice = SmsGetIceConnection(conn);
    SmsCleanUp(conn);
    // Still in use while ICE is reading from it: closed once more when the
    // client hangs up, or when the session ends.
    if (IceCloseConnection(ice) != IceConnectionInUse) std::erase(connections, ice);
}

// Of the properties, only the restart hint is logged (the others name the
// program and its user).
void setProperties(SmsConn, SmPointer, int count, SmProp** props) {
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(props[i]->name, SmRestartStyleHint) == 0 && props[i]->num_vals == 1 &&
            props[i]->vals[0].length >= 1) {
            logLine("RestartStyleHint " + std::to_string(*static_cast<unsigned char*>(props[i]->vals[0].value)));
        }
        SmFreeProperty(props[i]);
    }
    std::free(props);
}

Status newClient(SmsConn conn, SmPointer, unsigned long* mask, SmsCallbacks* cb, char**) {
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
            SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
            SmsGetPropertiesProcMask;
    // Asked of the session manager by other clients than the game: noted only.
    cb->save_yourself_request.callback = [](SmsConn, SmPointer, int, Bool, int, Bool, Bool) { logLine("SaveYourselfRequest"); };
    cb->save_yourself_phase2_request.callback = [](SmsConn c, SmPointer) { SmsSaveYourselfPhase2(c); };
    cb->delete_properties.callback = [](SmsConn, SmPointer, int n, char** names) {
        for (int i = 0; i < n; ++i) std::free(names[i]);
        std::free(names);
    };
    cb->get_properties.callback = [](SmsConn c, SmPointer) { SmsReturnProperties(c, 0, nullptr); };
    cb->register_client.callback = registerClient;
    cb->interact_request.callback = interactRequest;
    cb->interact_done.callback = interactDone;
    cb->save_yourself_done.callback = saveYourselfDone;
    cb->close_connection.callback = closeConnection;
    cb->set_properties.callback = setProperties;
    clients.push_back(conn);
    return 1;
}

// Any local client may connect: the test's session is private to it.
Bool anyHost(char*) { return True; }

void ignoreIoError(IceConn) {}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LOG COMMAND [ARG...]\n", argv[0]);
        return 2;
    }
    // Appended to, so that a test may empty it between logouts.
    logFile = std::fopen(argv[1], "a");
    if (logFile == nullptr || pipe(wakeUp) != 0) return 1;
    IceSetIOErrorHandler(ignoreIoError);
    char error[256] = "";
    if (!SmsInitialize("quorvale-test", "1.0", newClient, nullptr, anyHost, sizeof error, error)) {
        std::fprintf(stderr, "session_manager: %s\n", error);
        return 1;
    }
    int count = 0;
    IceListenObj* listeners = nullptr;
    if (!IceListenForConnections(&count, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "session_manager: %s\n", error);
        return 1;
    }
    for (int i = 0; i < count; ++i) IceSetHostBasedAuthProc(listeners[i], anyHost);
    char* ids = IceComposeNetworkIdList(count, listeners);
    setenv("SESSION_MANAGER", ids, 1);
    setenv("QUORVALE_SM_LOG", argv[1], 1);
    setenv("QUORVALE_SM_PID", std::to_string(getpid()).c_str(), 1);
    std::free(ids);

    std::signal(SIGUSR1, onSignal);
    std::signal(SIGUSR2, onSignal);
    std::signal(SIGCHLD, onSignal);
    const pid_t session = fork();
    if (session == 0) {
        execvp(argv[2], argv + 2);
        std::_Exit(127);
    }
    for (;;) {
        std::vector<pollfd> fds{{wakeUp[0], POLLIN, 0}};
        for (int i = 0; i < count; ++i) fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn ice : connections) fds.push_back({IceConnectionNumber(ice), POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[0].revents & POLLIN) {
            char signal = 0;
            (void)!read(wakeUp[0], &signal, 1);
            int status = 0;
            if (signal == SIGCHLD && waitpid(session, &status, WNOHANG) == session) {
                // Clients whose goodbye has not been read yet are let go here.
                while (!connections.empty()) dropConnection(connections.back());
                IceFreeListenObjs(count, listeners);
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (signal == SIGUSR1 || signal == SIGUSR2) {
                const bool interact = signal == SIGUSR1;
                for (SmsConn client : clients)
                    SmsSaveYourself(client, SmSaveBoth, True, interact ? SmInteractStyleAny : SmInteractStyleNone, False);
            }
        }
        for (int i = 0; i < count; ++i) {
            if (!(fds[1 + i].revents & POLLIN)) continue;
            IceAcceptStatus status;
            if (IceConn ice = IceAcceptConnection(listeners[i], &status)) connections.push_back(ice);
        }
        // Each connection that has something to say, as it was when polled.
        const std::vector<IceConn> polled = connections;
        for (std::size_t i = 0; i < polled.size(); ++i) {
            if (!(fds[1 + count + i].revents & (POLLIN | POLLHUP))) continue;
            if (IceProcessMessages(polled[i], nullptr, nullptr) != IceProcessMessagesSuccess &&
                std::find(connections.begin(), connections.end(), polled[i]) != connections.end()) {
                dropConnection(polled[i]);
            }
        }
    }
}
