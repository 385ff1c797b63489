#include "process.h"

#include "fresh_file.h"

#include <chrono>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Opens a fresh file at `path` (or /dev/null) as descriptor `target` in the child.
bool redirect(const std::string& path, int target) {
    int fd = path.empty() ? open("/dev/null", O_WRONLY) : open_fresh(path);
    if (fd < 0) return false;
    if (fd != target) {
        dup2(fd, target); // the copy does not inherit close-on-exec
        close(fd);
    } else {
        fcntl(fd, F_SETFD, 0);
    }
    return true;
}

// What the child needs, made before fork: another thread may hold the
// allocator's lock at that moment, so the child allocates nothing and calls only
// what is safe after fork in a threaded process.
struct child_plan {
    std::vector<char*> args;
    std::string cannot_enter, cannot_run; // its messages
};

[[noreturn]] void exec_child(const process_request& request, const child_plan& plan) {
    int in = open("/dev/null", O_RDONLY);
    if (in >= 0) {
        dup2(in, 0);
        close(in);
    }
    bool same = !request.out_file.empty() && request.out_file == request.err_file;
    if (!redirect(request.out_file, 1)) _exit(126);
    if (same)
        dup2(1, 2);
    else if (!redirect(request.err_file, 2))
        _exit(126);
    if (!request.cwd.empty() && chdir(request.cwd.c_str()) != 0) {
        (void)!write(2, plan.cannot_enter.data(), plan.cannot_enter.size());
        _exit(126);
    }
    execvp(plan.args[0], plan.args.data());
    (void)!write(2, plan.cannot_run.data(), plan.cannot_run.size());
    _exit(127);
}

} // namespace

process_result run_process(const process_request& request) {
    process_result result;
    if (request.argv.empty()) return result;
    auto start = std::chrono::steady_clock::now();
    child_plan plan;
    for (const std::string& word : request.argv)
        plan.args.push_back(const_cast<char*>(word.c_str()));
    plan.args.push_back(nullptr);
    plan.cannot_enter = "hdrslim: cannot enter directory " + request.cwd + "\n";
    plan.cannot_run = "hdrslim: cannot run " + request.argv[0] + "\n";
    pid_t pid = fork();
    if (pid < 0) return result;
    if (pid == 0) exec_child(request, plan);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.started = !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

process_result run_shell(const std::string& command, const std::string& cwd,
                         const std::string& log_file) {
    process_result result = run_process({{"/bin/sh", "-c", command}, cwd, log_file, log_file});
    result.started = true; // 127 from the shell means "command not found": a failure, not ours
    return result;
}

std::string shell_quote(const std::string& word) {
    if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "0123456789_-+=./:,@%") == std::string::npos)
        return word;
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string shell_join(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) line += ' ';
        line += shell_quote(word);
    }
    return line;
}
