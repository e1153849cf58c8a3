// The dependency lies in lib/ beside the launcher, on its class path; the launcher carries
// only the project's jar (and the runtime library the build adds, whose artifact the
// project compiled against as provided, so neither in lib/ nor included), and is
// installed with the project.
def exe = new File(basedir, 'target/beside-attach-1.0.exe')
assert new File(basedir, 'target/lib/greeting-1.0.jar').isFile()
assert new File(basedir, 'target/lib').list().toList() == ['greeting-1.0.jar']
def inspect = [kestroTool, 'inspect', exe.path].execute()
def report = inspect.text
assert inspect.waitFor() == 0
assert report.contains('classpath.entries                    "A1lib\\\\greeting-1.0.jar"')
assert report.contains('files.names                          "beside-attach-1.0.jar;kestro-runtime.jar"')
def installed = new File(localRepositoryPath, 'org/example/beside-attach/1.0/beside-attach-1.0.exe')
assert installed.bytes == exe.bytes
