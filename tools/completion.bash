# bash completion for vexafol. The tool itself says what fits where
# ("vexafol __complete -- WORD..."), so commands, options, application codes
# and drawing numbers offered are always those of the vexafol being completed.
_vexafol() {
  local line=${COMP_LINE:0:COMP_POINT} cur prefix candidate directive=
  local -a words found
  read -ra words <<<"$line"
  [[ -z $line || $line == *[[:space:]] ]] && words+=("")
  cur=${words[-1]}
  # bash replaces only the part of the word after the last "=" or ":" it
  # breaks words at; the tool answers whole words.
  prefix=
  local i
  for ((i = ${#cur} - 1; i >= 0; i--)); do
    if [[ ${cur:i:1} == [=:] && $COMP_WORDBREAKS == *"${cur:i:1}"* ]]; then
      prefix=${cur:0:i+1}
      break
    fi
  done
  COMPREPLY=()
  while IFS= read -r candidate; do
    case $candidate in
      :dirs | :files) directive=${candidate#:} ;;
      *) COMPREPLY+=("${candidate#"$prefix"}") ;;
    esac
  done < <("${words[0]}" __complete -- "${words[@]:1}" 2>/dev/null)
  if [[ -n $directive ]]; then
    if [[ $directive == dirs ]]; then
      mapfile -t found < <(compgen -d -- "${cur#"$prefix"}")
    else
      mapfile -t found < <(compgen -f -- "${cur#"$prefix"}")
    fi
    COMPREPLY+=("${found[@]}")
    compopt -o filenames 2>/dev/null
  fi
  # "HNY/" goes on with a number: no space after it.
  if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == */ ]]; then
    compopt -o nospace 2>/dev/null
  fi
  return 0
}
complete -F _vexafol vexafol
