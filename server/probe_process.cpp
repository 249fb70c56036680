#include "server/probe_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

extern char** environ;

ServerChild server_child_start(const std::string& binary, std::vector<std::string> args) {
    ServerChild child;
    int fds[2];
    if (pipe(fds) != 0) return child;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    args.insert(args.begin(), {binary, "--listen", "127.0.0.1", "--port", "0"});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    child.output = fds[0];
    fcntl(child.output, F_SETFL, O_NONBLOCK);
    // "quibbet-server V listening on 127.0.0.1 port N: ..."; a loaded machine may take a while.
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{child.output, POLLIN, 0};
        poll(&p, 1, 100);
        char c;
        while (text.find('\n') == std::string::npos && read(child.output, &c, 1) == 1) text += c;
    }
    child.first_line = text;
    const size_t at = text.find(" port ");
    if (at != std::string::npos) child.port = std::atoi(text.c_str() + at + 6);
    return child;
}

void server_child_stop(ServerChild& child) {
    if (child.pid > 0) {
        kill(child.pid, SIGTERM);
        waitpid(child.pid, nullptr, 0);
        child.pid = -1;
    }
    if (child.output >= 0) close(child.output);
    child.output = -1;
}
