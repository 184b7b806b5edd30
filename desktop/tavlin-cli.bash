# bash completion for tavlin-cli: commands, options and the files each place takes.

# Folders, and files whose extension (in any letter case) is one of "$@".
_tavlin_cli_files() {
  local name extension IFS=$'\n'
  for name in $(compgen -f -- "$cur"); do
    if [[ -d $name ]]; then
      COMPREPLY+=("$name")
      continue
    fi
    for extension in "$@"; do
      if [[ ${name,,} == *."$extension" ]]; then
        COMPREPLY+=("$name")
        break
      fi
    done
  done
}

_tavlin_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local commands="info dump convert render check help"
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
    return
  fi
  local command=${COMP_WORDS[1]} options="--from --help"
  [[ $command == render ]] && options="--params --param --offset --zoom --element --sweep --fps --brick --param-count --options --text --brick-source --from --to --help"
  [[ $command == check ]] && options="--brick --param-count --brick-source --from --help"
  [[ $command == convert ]] && options="--style --name --from --to --help"
  case $prev in
    --params)
      _tavlin_cli_files rpa
      return
      ;;
    --style)
      mapfile -t COMPREPLY < <(compgen -W "macros bytes" -- "$cur")
      return
      ;;
    --brick)
      mapfile -t COMPREPLY < <(compgen -W "lego enhanced131 enhanced132" -- "$cur")
      return
      ;;
    --brick-source)
      mapfile -t COMPREPLY < <(compgen -W "file array" -- "$cur")
      return
      ;;
    --from)
      mapfile -t COMPREPLY < <(compgen -W "ric rs" -- "$cur")
      return
      ;;
    --to)
      local types="ric rs nxc nbc json"
      [[ $command == render ]] && types="png gif"
      mapfile -t COMPREPLY < <(compgen -W "$types" -- "$cur")
      return
      ;;
    --param | --offset | --zoom | --element | --sweep | --fps | --param-count | --options | --text | --name)
      return
      ;;
  esac
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    return
  fi
  # Which file this word is: the files before it, options and their values left out.
  local i files=0
  for ((i = 2; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      --params | --param | --offset | --zoom | --element | --sweep | --fps | --style | --brick | \
        --param-count | --options | --text | --name | --from | --to | --brick-source) ((i++)) ;;
      -*) ;;
      *) ((files++)) ;;
    esac
  done
  case $command:$files in
    help:0) mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur") ;;
    info:0 | dump:0 | convert:0 | render:0 | check:0) _tavlin_cli_files ric rs ;;
    convert:1) _tavlin_cli_files ric rs nxc nbc ;;
    render:1) _tavlin_cli_files png gif ;;
  esac
}

complete -o filenames -F _tavlin_cli tavlin-cli
