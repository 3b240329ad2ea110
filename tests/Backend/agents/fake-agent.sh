#!/bin/sh
# Stands in for every command-line agent in the tests. It is installed under each agent's
# name; FAKE_MODE picks what it does, and it records how it was started in FAKE_DIR
# (the arguments NUL-separated, since the prompt spans lines).
dir="${FAKE_DIR:?}"
printf '%s\0' "$0" "$@" > "$dir/argv"
pwd -P > "$dir/cwd"
printf '%s' "$PATH" > "$dir/path"
echo $$ > "$dir/pid"

delta() {
    printf '{"type":"stream_event","event":{"type":"content_block_delta","delta":{"type":"text_delta","text":"%s"}}}\n' "$1"
}
agent_message() {
    printf '{"type":"item.completed","item":{"type":"agent_message","text":"%s"}}' "$1"
}

case "$FAKE_MODE" in
hello)  # the reply in the agent's own output format
    case "${0##*/}" in
    codex) printf '{"type":"thread.started"}\n'; agent_message 'Hello.'; echo ;;
    claude) delta 'Hel'; delta 'lo.'; printf '{"type":"result","result":"Hello."}\n' ;;
    *) printf 'Hello.' ;;
    esac ;;
stream-wait)  # the first piece must arrive while the agent still runs
    printf 'first '
    while [ ! -e "$dir/go" ]; do sleep 0.01; done
    printf 'second' ;;
claude-deltas)
    delta '안녕'; sleep 0.05; delta '하세요.'
    printf '{"type":"result","result":"IGNORED"}\n' ;;
claude-result)
    printf '{"type":"system","subtype":"init"}\n{"type":"result","result":"Only result."}\n' ;;
codex-two)  # the last line has no line feed
    agent_message 'A.'; echo; agent_message 'B.' ;;
codex-chatter)
    echo 'hello' ;;
split-utf8)  # "가" as 2 + 1 bytes
    printf '\352\260'; sleep 0.1; printf '\200\n' ;;
turn-failed)
    printf '%s\n' '{"type":"turn.failed","error":{"message":"{\"error\":{\"message\":\"inner\"}}"}}'
    exit 1 ;;
rate-limit)
    echo 'Error: Rate Limit exceeded, try again later' >&2; exit 1 ;;
exit-two)
    echo 'partial'; echo 'bad flag' >&2; exit 2 ;;
silent)
    ;;
stdin)
    if read -r _; then echo 'stdin had data'; else echo 'stdin at end'; fi ;;
big-stderr)  # more than a pipe holds, before any output
    head -c 200000 /dev/zero | tr '\0' x >&2; echo ok ;;
hang)
    echo started
    while :; do sleep 1; done ;;
ignore-term)
    trap '' TERM
    echo partial
    while :; do sleep 1; done ;;
grandchild)  # exits at once, leaving a helper that holds the output open
    sleep 30 &
    echo $! > "$dir/grandchild"
    echo hi ;;
helper-ignores-term)  # dies on SIGTERM itself, but its helper ignores it and holds the output
    (trap '' TERM; exec sleep 30) &
    echo $! > "$dir/grandchild"
    echo started
    wait ;;
esac
