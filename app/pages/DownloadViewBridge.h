#pragma once
// CDownloadViewBridge: the download workflow's view (IDownloadView), turned
// into Qt signals. The workflow calls it on its worker thread (and on the
// thread that starts it); each call only emits a signal, which the
// download dialog receives through a queued connection on the UI thread.
// Nothing here blocks or touches a widget.

#include <QObject>
#include <QString>

#include "update/DownloadView.h"

class CDownloadViewBridge : public QObject, public IDownloadView {
  Q_OBJECT
 public:
  explicit CDownloadViewBridge(QObject* parent = nullptr) : QObject(parent) {}

  void ShowView() override { emit ViewShown(); }
  void SetStatus(const std::string& text, bool ok) override {
    emit StatusChanged(QString::fromStdString(text), ok);
  }
  void SetOkFlag(bool ok) override { emit OkFlagChanged(ok); }
  void SetProgressRange(int count) override { emit ProgressRangeChanged(count); }
  void SetProgressPos(int pos) override { emit ProgressPosChanged(pos); }
  void StepProgress() override { emit ProgressStepped(); }
  void SetButtonCaption(const std::string& caption) override {
    emit ButtonCaptionChanged(QString::fromStdString(caption));
  }
  void Trace(const std::string& line) override { emit TraceLine(QString::fromStdString(line)); }
  void RunEnded(DownloadEnd how) override { emit Ended(static_cast<int>(how)); }

 signals:
  void ViewShown();
  void StatusChanged(const QString& text, bool ok);
  void OkFlagChanged(bool ok);
  void ProgressRangeChanged(int count);
  void ProgressPosChanged(int pos);
  void ProgressStepped();
  void ButtonCaptionChanged(const QString& caption);
  void TraceLine(const QString& line);
  void Ended(int how);
};
