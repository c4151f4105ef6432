// Start-up of the calculator window beside a bare Qt window of the same size, each in a
// process of its own: time from the process start to the first painted frame, and the
// peak resident memory at that frame. Then, in the calculator's process, the time from a
// click on "计 算" to the written results.
//
// A third process, a bare window with one Chinese label, shows what drawing any Chinese
// text costs (font database, CJK font files) apart from the calculator's own work.
//
// Usage: hydrant-startup-bench [ROUNDS]   (default 15 rounds of each, interleaved)
// Without a display it runs on Qt's offscreen platform.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/calculator.h"

extern char** environ;

namespace {

long long nowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);  // system-wide, so comparable across processes
  return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

long peakRssKb() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

// Calls done() once the widget's first paint has been delivered and finished.
class FirstFrame : public QObject {
 public:
  FirstFrame(QWidget* w, std::function<void()> done) : done_(std::move(done)) {
    w->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      QTimer::singleShot(0, this, [this] { done_(); });
    }
    return false;
  }

 private:
  std::function<void()> done_;
  bool seen_ = false;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0
                   : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

// Child: one start-up, printed as "frame_ns rss_kb click_ns".
int child(const std::string& mode, long long spawnedAt, int argc, char** argv) {
  const bool calculator = mode == "window";
  long long frameNs = 0;
  long rss = 0;
  double clickNs = 0;
  if (calculator) {
    // The same start as the program's main().
    QApplication app(argc, argv);
    QApplication::setApplicationName("hydrant-calc");
    Calculator calculator;
    ui::QtWindow& window = calculator.window();
    FirstFrame first(window.form(), [&] {
      frameNs = nowNs() - spawnedAt;
      rss = peakRssKb();
      auto* width = window.form()->findChild<QLineEdit*>("Text9");
      auto* button = window.form()->findChild<QPushButton*>("Command1");
      auto* spacing = window.form()->findChild<QLineEdit*>("Text8(1)");
      width->setText("10");
      std::vector<double> clicks;
      for (int i = 0; i < 200; ++i) {
        spacing->clear();
        const long long t0 = nowNs();
        QTest::mouseClick(button, Qt::LeftButton);
        const long long t1 = nowNs();
        if (spacing->text() != "20.82") {
          std::fprintf(stderr, "click %d gave spacing '%s'\n", i, qPrintable(spacing->text()));
          std::exit(3);
        }
        clicks.push_back(static_cast<double>(t1 - t0));
      }
      clickNs = median(clicks);
      QApplication::quit();
    });
    app.exec();
  } else {
    QApplication app(argc, argv);
    QWidget bare;
    bare.setWindowTitle("bare");
    bare.setFixedSize(427, 317);
    if (mode == "label") new QLabel("参数选择", &bare);
    FirstFrame first(&bare, [&] {
      frameNs = nowNs() - spawnedAt;
      rss = peakRssKb();
      QApplication::quit();
    });
    bare.show();
    app.exec();
  }
  std::printf("%lld %ld %.0f\n", frameNs, rss, clickNs);
  return 0;
}

struct Sample {
  double frameMs;
  double rssMb;
  double clickUs;
};

bool runChild(const char* self, const char* mode, Sample& out) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const std::string started = std::to_string(nowNs());
  char* args[] = {const_cast<char*>(self), const_cast<char*>("--child"), const_cast<char*>(mode),
                  const_cast<char*>(started.c_str()), nullptr};
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, self, &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) return false;
  std::string line;
  char buf[256];
  ssize_t n = 0;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) line.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  long long frameNs = 0;
  long rss = 0;
  double clickNs = 0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(line.c_str(), "%lld %ld %lf", &frameNs, &rss, &clickNs) != 3) {
    return false;
  }
  out = {frameNs / 1e6, rss / 1024.0, clickNs / 1e3};
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "--child") == 0) {
    int qtArgc = 1;
    return child(argv[2], std::atoll(argv[3]), qtArgc, argv);
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const char* platform = std::getenv("QT_QPA_PLATFORM");

  std::vector<double> bareFrame, bareRss, labelFrame, labelRss, winFrame, winRss, click;
  for (int i = 0; i < rounds; ++i) {
    Sample s{};
    if (!runChild(argv[0], "bare", s)) return std::fprintf(stderr, "bare window failed\n"), 1;
    bareFrame.push_back(s.frameMs);
    bareRss.push_back(s.rssMb);
    if (!runChild(argv[0], "label", s)) return std::fprintf(stderr, "label window failed\n"), 1;
    labelFrame.push_back(s.frameMs);
    labelRss.push_back(s.rssMb);
    if (!runChild(argv[0], "window", s)) return std::fprintf(stderr, "calculator failed\n"), 1;
    winFrame.push_back(s.frameMs);
    winRss.push_back(s.rssMb);
    click.push_back(s.clickUs);
  }
  const double bf = median(bareFrame), wf = median(winFrame);
  const double bm = median(bareRss), wm = median(winRss);
  std::printf("platform: %s, %d rounds, medians\n", platform ? platform : "(default)", rounds);
  std::printf("time to first frame: bare %.1f ms, calculator %.1f ms, ratio %.2f (goal <= 1.30)\n",
              bf, wf, wf / bf);
  std::printf(
      "peak memory at first frame: bare %.1f MiB, calculator %.1f MiB, ratio %.2f (goal <= 1.20)\n",
      bm, wm, wm / bm);
  std::printf(
      "reference, bare window with one Chinese label: %.1f ms (ratio %.2f), %.1f MiB (ratio "
      "%.2f)\n",
      median(labelFrame), median(labelFrame) / bf, median(labelRss), median(labelRss) / bm);
  std::printf("calculator against that reference: time ratio %.2f, memory ratio %.2f\n",
              wf / median(labelFrame), wm / median(labelRss));
  std::printf("click on 计 算 to written results: %.1f us (median of the per-process medians)\n",
              median(click));
  return 0;
}
