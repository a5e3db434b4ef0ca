# Sourced by the case runners. copy_case_files CASE-DIR DEST: the case's own
# files, without the control files (stdout, stderr, status, args, setup.sh,
# run.sh, expected/), copied to DEST.
copy_case_files() {
  local item
  for item in "$1"/* "$1"/.[!.]*; do
    [ -e "$item" ] || continue
    case $(basename -- "$item") in
      stdout | stderr | status | args | setup.sh | run.sh | expected) ;;
      *) cp -a -- "$item" "$2"/ ;;
    esac
  done
}
