// The launcher carries the main class, the project's jar and its dependency, and the
// version information taken from the project.
def exe = new File(basedir, 'target/one-dependency-1.2.3-SNAPSHOT.exe')
assert exe.isFile()
def inspect = [kestroTool, 'inspect', exe.path].execute()
def report = inspect.text
assert inspect.waitFor() == 0
assert report.contains('application.main_class               "org.example.hello.Main"')
assert report =~ /(?m)^  one-dependency-1\.2\.3-SNAPSHOT\.jar /
assert report =~ /(?m)^  greeting-1\.0\.jar /
assert report.contains('version 1.2.3.0, ProductName "One Dependency",'
        + ' FileDescription "A sample application with one dependency."')

// The second build found the launcher up to date and wrote nothing: the last file the
// first build wrote is the launcher's state, and nothing of the plugin's (the launcher,
// its configuration and state, the unpacked tool) is newer.
def log = new File(basedir, 'build.log').text
assert log.count('kestro: building ') == 1
assert log.contains("kestro: ${exe.path} is up to date")
def state = new File(basedir, 'target/kestro/one-dependency-1.2.3-SNAPSHOT.state')
def tools = new File(localRepositoryPath, 'org/kestro/kestro-maven-plugin')
def written = [exe]
new File(basedir, 'target/kestro').eachFileRecurse { written << it }
tools.eachFileRecurse { written << it }
def newer = written.findAll { it.lastModified() > state.lastModified() }
assert newer.isEmpty() : "written by the second build: ${newer}"
