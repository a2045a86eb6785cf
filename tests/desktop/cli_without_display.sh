#!/usr/bin/env bash
# Runs the program as over ssh, without any display: help, version and every misuse of the
# command line must answer on their own (exit 0 or 2, the message where it belongs), and
# a normal start says that there is no display instead of aborting.
set -u
vrl=$1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# expected status | stream that must hold the text (out/err) | text | arguments...
check() {
  local want=$1 stream=$2 text=$3
  shift 3
  "$vrl" "$@" >"$out" 2>"$err"
  local got=$?
  local file=$out other=$err
  [[ $stream == err ]] && file=$err other=$out
  if [[ $got -ne $want ]] || ! grep -qF -- "$text" "$file" || [[ -s $other ]]; then
    echo "FAIL: vrl $*: status $got (want $want), stdout: $(cat "$out"), stderr: $(cat "$err")"
    failed=1
  fi
}

check 0 out "用法: vrl" --help
check 0 out "用法: vrl" -h
check 0 out "VRL V6.72" --version
check 0 out "VRL V6.72" x.tnf -v
check 0 out "许可证 GPL-3.0-or-later" --version
check 2 err "未知选项：--bogus" --bogus
check 2 err "未知选项：-x" -style fusion -x
check 2 err "只能指定一个监视报文文件" a.tnf b.tnf
check 2 err "端口参数格式不对" --port COM0=/dev/null
check 2 err "--port 后缺少" --port
check 1 err "没有可用的显示" x.tnf
check 1 err "没有可用的显示" --port COM3=/dev/null -- -odd.tnf
exit $failed
